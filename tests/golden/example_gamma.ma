standard errors based on 100 bootstrap replicates

d (above diagonal), S.E. (below diagonal)
taxa	apes	oldworld	newworld	tarsier	
apes	-	0.046 (insign.)	0.077 (insign.)	0.209 (<0.01)	
oldworld	0.064 (20)	-	0.031 (insign.)	0.163 (<0.05)	
newworld	0.073 (5)	0.080 (4)	-	0.132 (insign.)	
tarsier	0.066 (5)	0.072 (4)	0.080 (1)	-	


ratio (above diagonal), 95% confidence interval (below diagonal)
taxa	apes	oldworld	newworld	tarsier	
apes	-	1.239 (0.334)	1.316 (0.302)	1.736 (0.311)	
oldworld	(0.585-1.893)	-	1.118 (0.245)	1.538 (0.289)	
newworld	(0.724-1.908)	(0.639-1.598)	-	1.427 (0.341)	
tarsier	(1.126-2.347)	(0.971-2.105)	(0.760-2.094)	-	
