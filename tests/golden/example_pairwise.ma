standard errors based on 100 bootstrap replicates

d (above diagonal), S.E. (below diagonal)
taxa	apes	oldworld	newworld	tarsier	
apes	-	0.019 (insign.)	0.024 (insign.)	0.073 (<0.01)	
oldworld	0.020 (20)	-	0.005 (insign.)	0.054 (<0.05)	
newworld	0.023 (5)	0.026 (4)	-	0.049 (insign.)	
tarsier	0.023 (5)	0.025 (4)	0.028 (1)	-	


ratio (above diagonal), 95% confidence interval (below diagonal)
taxa	apes	oldworld	newworld	tarsier	
apes	-	1.147 (0.160)	1.159 (0.151)	1.451 (0.169)	
oldworld	(0.833-1.460)	-	1.038 (0.146)	1.319 (0.167)	
newworld	(0.863-1.456)	(0.752-1.324)	-	1.281 (0.186)	
tarsier	(1.120-1.782)	(0.991-1.647)	(0.917-1.646)	-	
